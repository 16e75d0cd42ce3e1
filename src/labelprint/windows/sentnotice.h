// The short notice that takes the progress window's place when a print has been sent to a
// printer or saved into a PDF file; it closes by itself after two seconds.
#pragma once

#include <QWidget>

class QLabel;

namespace labelprint {

class SentNotice : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShownMs = 2000;

    // "Odesláno na tiskárnu X: 3 strany" / "Uloženo do souboru F: 1 strana".
    static QString printerText(const QString& printer, int pages);
    static QString fileText(const QString& file, int pages);

    // Shows `text` centred on the screen, as the progress window was; deletes itself when it
    // closes.
    static SentNotice* open(const QString& text);

    QLabel* Info;

  private:
    explicit SentNotice(const QString& text);
};

} // namespace labelprint
