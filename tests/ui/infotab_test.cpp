#include "support/tempprogramdir.h"
#include "ui/form1.h"
#include "ui/infotab.h"
#include "ui/stitkytab.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Catches the links the program asks the system to open.
class MailCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(InfoTab, OnlyTheAddressStartsAnEmail) {
    TempProgramDir dir;
    dir.createDatabase();
    TForm1 form;
    form.show();
    MailCatcher catcher;
    QDesktopServices::setUrlHandler("mailto", &catcher, "open");
    QTest::mouseClick(form.infots->Label6, Qt::LeftButton);
    EXPECT_TRUE(catcher.opened.isEmpty());
    QTest::mouseClick(form.infots->Label23, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toString(), "mailto:" + InfoTab::contactAddress());
    QDesktopServices::unsetUrlHandler("mailto");

    EXPECT_TRUE(form.infots->Label6->text().endsWith("Kontakt:"));
    EXPECT_EQ(form.infots->Label23->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(form.infots->Label23->font().underline());
    EXPECT_EQ(form.infots->Label23->cursor().shape(), Qt::ArrowCursor);
    form.close();
}

TEST(MainWindow, ActivationPutsTheFocusInTheCodeField) {
    TempProgramDir dir;
    dir.createDatabase();
    TForm1 form;
    form.show();
    form.stitkyts->nazevle->setFocus();
    QApplication::setActiveWindow(&form);
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&form, &activation);
    EXPECT_TRUE(form.stitkyts->kodle->hasFocus() || form.focusWidget() == form.stitkyts->kodle);
    form.close();
}

} // namespace

#include "infotab_test.moc"
