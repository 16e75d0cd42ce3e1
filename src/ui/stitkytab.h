// The labels tab "štítky": the entry fields of one label, the copy count, the list commands'
// buttons and the list grid.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QAction;
class ListGrid;
class SpinField;

class StitkyTab : public QWidget {
    Q_OBJECT
  public:
    explicit StitkyTab(QWidget* parent = nullptr);

    QLineEdit* kodle;
    QLineEdit* nazevle;
    QLineEdit* cenale;
    QLineEdit* text1le;
    QLineEdit* text2le;
    QLineEdit* text3le;
    SpinField* pocetspin;
    QPushButton* pridatb;
    QPushButton* vymazatb;
    QPushButton* tiskb;
    QPushButton* ulozitseznamb;
    QPushButton* nacistseznamb;
    QPushButton* nacistcenikb; // a shop's price list through a column mapping
    ListGrid* DBGrid1;
    QAction* vymazatpoloku1;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};
