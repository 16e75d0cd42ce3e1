#include "ui/nastavenitab.h"

#include "ui/colourswatch.h"
#include "ui/designlayout.h"
#include "ui/spinfield.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace designlayout;

namespace {

SpinField* spin(QWidget* parent, const QString& name, int x, int y, int initial) {
    auto* s = new SpinField(parent);
    s->setObjectName(name);
    s->setGeometry(x, y, 50, 22);
    s->setValue(initial);
    return s;
}

struct SlotColumn {
    const char* top;
    int topX;
    const char* left;
    int leftX;
    const char* button;
    const char* caption;
    int buttonX;
    const char* chb;
    int chbX;
};

const SlotColumn kColumns[settings::SlotCount] = {
    {"kodstopspin", 325, "kodsleftspin", 325, "fontcarab", "font_kód1", 320, "kodschb", 340},
    {"kodtopspin", 395, "kodleftspin", 395, "fontkodb", "font_kód2", 390, "kodchb", 410},
    {"nazevtopspin", 460, "nazevleftspin", 460, "fonttextb", "font_nazev", 460, "nazevchb", 480},
    {"cenatopspin", 530, "cenaleftspin", 530, "fontcenab", "font_cena", 530, "cenachb", 550},
    {"text1topspin", 600, "text1leftspin", 600, "fonttext1b", "font_text1", 600, "text1chb", 620},
    {"text2topspin", 665, "text2leftspin", 665, "fonttext2b", "font_text2", 665, "text2chb", 685},
    {"text3topspin", 735, "text3leftspin", 735, "fonttext3b", "font_text3", 735, "text3chb", 745},
};

} // namespace

QStringList NastaveniTab::helpLines() {
    return {
        QStringLiteral("Tady je možné nastavit velikost štítků, okraje stránky a fonty pro tisk, "
                       "vybrané nastavení si program pamatuje i po skončení a zvovuspuštění."),
        QString(),
        QStringLiteral("- rozměr štítku je dán parametrem výška štítku a parametrem počet sloupců "
                       "(šířka štítku=(šířka stránky-okraje)/počet sloupců), jak jednoduché."),
        QStringLiteral("- okraje stránky jsou dané parametry \"levý okraj\" a \"horní okraj\" vše "
                       "v mm."),
        QStringLiteral("- na štítek je možné umístit až 7 řádků textu (kód1, kód2, název, cena, "
                       "text1, text2, text3). Kód1 a kód2 jsou vyhrazeny pro kód zboží, dva jsou "
                       "protože se obvykle jeden z nich "),
        QStringLiteral("použije pro tisk čárového kódu (kód1) a druhý téhož kódu v "
                       "číselné/textové podobě (kód2). Kód1 je tedy kód2 automaticky doplněný o "
                       "zástupný znak, který vyžadují čtečky. "),
        QStringLiteral("Řádky text a cena se obvykle použijí pro název zboží a jeho cenu, "
                       "významem však můžou obsahovat prakticky cokoli, stejně jako "
                       "text1...text3. Jestliže např. netiskneme štítky na "),
        QStringLiteral("zboží tak kódy mužeme zneviditelnit pomocí zaškrtávacího pole, stejně tak "
                       "jakýkoliv jiný řádek."),
        QStringLiteral("- pozice řádků na štítku je daná vzdáleností od horního okraje v mm (osa "
                       "y), a vzáleností od levého okraje (osa x). Jestliže za x dosadíme záporné "
                       "číslo, potom se řádek zarovná "),
        QStringLiteral("na střed štítku."),
        QStringLiteral("- pro každý řádek se dá vybrat font (včetně barvy), pokud máme true type "
                       "fonty s čárovým kódem, můžeme kód zboží tisknout jako čárový kód."),
        QString(),
        QStringLiteral("TIP: chcete-li tisknout štítky s čárovým kódem, nainstalujte si "
                       "odpovídající true type fonty, např. "
                       "https://duckduckgo.com/?q=code+39+truetype+font"),
        QStringLiteral("TIP: každý štítek může mít rámeček, pokud ho nechceme, zvolíme u něj "
                       "stejnou barvu jakou má pozadí."),
        QStringLiteral("UPOZORNĚNÍ: program se v praxi používá pro tisk na samolepící štítky na "
                       "formátu A4, které se dají koupit v papírnictví. Tyto štítky bývají v "
                       "některých rozměrech  nepřesně "),
        QStringLiteral("nařezané - na formátu A4 se pak \"rozjíždí\" až o několik mm. V takovém "
                       "případě je to třeba při rozmisťování řádků na štítcích uvážit protože "
                       "program tiskne přesně. Tzn. zvolíme "),
        QStringLiteral("dostatečnou toleranci  v  okrajích štítku (texty umístíme dále od okrajů - "
                       "blíže ke středu štítku)."),
    };
}

NastaveniTab::NastaveniTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("nastavenits"));

    QFont heading = font();
    heading.setPixelSize(16);
    for (auto [name, text, x] : {std::tuple{"Label3", "Vzhled stránky", 45},
                                 std::tuple{"Label4", "Parametry štítku", 325}}) {
        QLabel* l = label(this, QString::fromLatin1(name), QString::fromUtf8(text), x, 5);
        l->setFont(heading);
        l->adjustSize();
    }
    const std::tuple<const char*, const char*, int, int> captions[] = {
        {"vlevol", "levý okraj", 10, 30},
        {"nahorel", "horní okraj", 81, 30},
        {"Label1", "počet sloupců", 149, 30},
        {"Label2", "výška štítku", 256, 30},
        {"caratopl", "kód1_y", 325, 30},
        {"kodtopl", "kód2_y", 395, 30},
        {"nazevtop", "nazev_y", 460, 30},
        {"Label8", "cena_y", 525, 30},
        {"text1", "text1_y", 600, 30},
        {"Label15", "text2_y", 660, 30},
        {"Label17", "text3_y", 730, 30},
        {"Label9", "kód1_x", 325, 75},
        {"Label10", "kód1_x", 395, 75},
        {"Label11", "nazev_x", 460, 75},
        {"Label12", "cena_x", 525, 75},
        {"Label14", "text1_x", 595, 75},
        {"Label16", "text2_x", 660, 75},
        {"Label18", "text3_x", 730, 75},
        {"Label5", "barva rámečku", 240, 85},
        {"Label19", "barva pozadí", 240, 115},
        {"Label13", "zobrazovat pole", 240, 160},
    };
    for (const auto& [name, text, x, y] : captions) {
        label(this, QString::fromLatin1(name), QString::fromUtf8(text), x, y);
    }

    // The controls' own initial values; start-up replaces all of them.
    vlevospin = spin(this, QStringLiteral("vlevospin"), 10, 45, 0);
    nahorespin = spin(this, QStringLiteral("nahorespin"), 80, 45, 0);
    sloupcespin = spin(this, QStringLiteral("sloupcespin"), 150, 45, 0);
    vyskabunkyspin = spin(this, QStringLiteral("vyskabunkyspin"), 260, 45, 1);

    specznakle =
        labelledEdit(this, QStringLiteral("specznakle"),
                     QStringLiteral("speciální znak při použití code 39 fontu"), 10, 90, 36, 21);

    bordershape = new ColourSwatch(this);
    bordershape->setObjectName(QStringLiteral("bordershape"));
    bordershape->setGeometry(210, 80, 30, 20);
    bordershape->setColour(platform::kBlack);
    pozadishape = new ColourSwatch(this);
    pozadishape->setObjectName(QStringLiteral("pozadishape"));
    pozadishape->setGeometry(210, 115, 30, 20);
    pozadishape->setColour(platform::kWhite);

    ulozitb = button(this, QStringLiteral("ulozitb"), QStringLiteral("uložit nastavení"), 10, 120,
                     141, 25);
    nacistb = button(this, QStringLiteral("nacistb"), QStringLiteral("načíst nastavení"), 10, 150,
                     141, 25);

    for (int i = 0; i < settings::SlotCount; ++i) {
        const SlotColumn& c = kColumns[i];
        topspin[size_t(i)] = spin(this, QString::fromLatin1(c.top), c.topX, 45, 0);
        leftspin[size_t(i)] = spin(this, QString::fromLatin1(c.left), c.leftX, 90, -1);
        fontbutton[size_t(i)] = button(this, QString::fromLatin1(c.button),
                                       QString::fromUtf8(c.caption), c.buttonX, 120, 60, 25);
        auto* box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(c.chb));
        box->setGeometry(c.chbX, 155, 21, 17);
        box->setChecked(true);
        chb[size_t(i)] = box;
    }

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlainText(helpLines().join('\n'));
    Memo1->setReadOnly(true);
    // Tab leaves the help text for the next control instead of staying in it.
    Memo1->setTabChangesFocus(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // In the tab's own background colour.
    Memo1->viewport()->setAutoFillBackground(false);

    using S = settings::Slot;
    QWidget* order[] = {vlevospin,
                        nahorespin,
                        sloupcespin,
                        vyskabunkyspin,
                        topspin[S::Kods],
                        topspin[S::Kod],
                        topspin[S::Nazev],
                        fontbutton[S::Kods],
                        fontbutton[S::Kod],
                        fontbutton[S::Nazev],
                        Memo1,
                        topspin[S::Cena],
                        fontbutton[S::Cena],
                        leftspin[S::Kods],
                        leftspin[S::Kod],
                        leftspin[S::Nazev],
                        leftspin[S::Cena],
                        specznakle,
                        topspin[S::Text1],
                        fontbutton[S::Text1],
                        leftspin[S::Text1],
                        topspin[S::Text2],
                        fontbutton[S::Text2],
                        leftspin[S::Text2],
                        topspin[S::Text3],
                        fontbutton[S::Text3],
                        leftspin[S::Text3],
                        chb[S::Kods],
                        chb[S::Kod],
                        chb[S::Nazev],
                        chb[S::Cena],
                        chb[S::Text1],
                        chb[S::Text2],
                        chb[S::Text3],
                        ulozitb,
                        nacistb};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
}

void NastaveniTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Memo1->setGeometry(0, height() - 248, width(), 248);
}
