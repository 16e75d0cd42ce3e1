#include "labelprint/textfit.h"

#include "labelprint/units.h"

#include <QFont>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace labelprint {
namespace {

// The reference em in pixels: large enough that rounding inside the font engine is far below
// a tenth of a millimetre at any label size.
constexpr int kReferencePixels = 1000;
// Shrinking steps, in 0.1 pt.
constexpr int kStep = 5;
// The slot-height rule of the label face lets a line reach 0.1 mm further.
constexpr double kSlack = 1;

QFont referenceFont(const settings::FontDescription& font) {
    QFont f(font.face);
    f.setPixelSize(kReferencePixels);
    f.setBold((font.style & settings::Bold) != 0);
    f.setItalic((font.style & settings::Italic) != 0);
    // Unhinted advances scale linearly with the size, so one measure serves every size.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

class Fitter {
  public:
    Fitter(const FitFont& metrics, const settings::FitRule& rule, const FitBox& box)
        : metrics_(metrics), rule_(rule), box_(box),
          room_(box.centred ? box.labelWidth : box.labelWidth - box.left) {}

    double refWidth(const QString& s) {
        if (s.isEmpty()) {
            return 0;
        }
        // Only wrapping measures the same pieces again at each size.
        if (rule_.mode != settings::FitRule::Mode::Wrap) {
            return metrics_.referenceWidth(s);
        }
        const auto it = widths_.constFind(s);
        if (it != widths_.constEnd()) {
            return *it;
        }
        const double w = metrics_.referenceWidth(s);
        widths_.insert(s, w);
        return w;
    }

    bool fitsWidth(const QString& s, int size) {
        return s.isEmpty() || refWidth(s) * FitFont::scale(size) <= room_;
    }

    // The text's own lines, wrapped at spaces at `size` when the rule wraps.
    QStringList broken(const QStringList& paragraphs, int size) {
        if (rule_.mode != settings::FitRule::Mode::Wrap) {
            return paragraphs;
        }
        QStringList out;
        for (const QString& p : paragraphs) {
            if (fitsWidth(p, size)) {
                out << p;
                continue;
            }
            const QStringList words = p.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QString line;
            for (const QString& word : words) {
                if (line.isEmpty()) {
                    line = word;
                    continue;
                }
                const QString longer = line + QLatin1Char(' ') + word;
                if (fitsWidth(longer, size)) {
                    line = longer;
                } else {
                    out << line;
                    line = word;
                }
            }
            out << line;
        }
        return out;
    }

    // Cuts `fit.lines` to what the slot holds and tells whether everything fits at fit.size.
    void judge(TextFit& fit) {
        fit.lineHeight = metrics_.cellHeight(fit.size);
        qsizetype held = fit.lines.size();
        if (rule_.mode == settings::FitRule::Mode::Wrap) {
            held = std::min<qsizetype>(held, std::max(1, rule_.lines));
        } else {
            for (qsizetype i = 0; i < fit.lines.size(); ++i) {
                if (double(i + 1) * fit.lineHeight > box_.slotHeight + kSlack) {
                    held = i;
                    break;
                }
            }
        }
        bool overflow = false;
        for (qsizetype i = held; i < fit.lines.size(); ++i) {
            overflow = overflow || !fit.lines[i].isEmpty();
        }
        fit.lines.resize(held);
        qsizetype last = -1;
        for (qsizetype i = 0; i < held; ++i) {
            if (!fit.lines[i].isEmpty()) {
                last = i;
                overflow = overflow || !fitsWidth(fit.lines[i], fit.size);
            }
        }
        // A line whose cell reaches below the label is covered by the next label's background.
        if (last >= 0 && box_.top + double(last + 1) * fit.lineHeight > box_.labelHeight + kSlack) {
            overflow = true;
        }
        fit.overflow = overflow;
    }

  private:
    const FitFont& metrics_;
    const settings::FitRule& rule_;
    const FitBox& box_;
    double room_;
    QHash<QString, double> widths_;
};

} // namespace

FitFont::FitFont(const settings::FontDescription& font) : metrics_(referenceFont(font)) {
    advances_.fill(-1);
}

double FitFont::scale(int size) {
    // size / 10 points, each 254 / 72 tenths of a millimetre, per reference em.
    return double(size) * kTenthsPerInch / (72.0 * 10.0 * kReferencePixels);
}

double FitFont::referenceWidth(const QString& text) const {
    // The sum of the characters' advances, as the preview places them. Kerning, which the
    // printer adds, mostly brings letters closer, so the measure errs on the safe side. Text
    // beyond the table is measured whole.
    double sum = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= advances_.size() || c.isSurrogate()) {
            return metrics_.horizontalAdvance(text);
        }
        double& a = advances_[u];
        if (a < 0) {
            a = metrics_.horizontalAdvance(c);
        }
        sum += a;
    }
    return sum;
}

double FitFont::width(const QString& text, int size) const {
    return referenceWidth(text) * scale(size);
}

double FitFont::cellHeight(int size) const {
    return metrics_.height() * scale(size);
}

QStringList textLines(QString text) {
    if (text.contains(QLatin1Char('\n'))) {
        text.remove(QLatin1Char('\n'));
    }
    if (!text.contains(QLatin1Char('\r'))) {
        return {text};
    }
    return text.split(QLatin1Char('\r'));
}

TextFit fitText(const QString& text, const settings::FontDescription& font, const FitFont& metrics,
                const settings::FitRule& rule, const FitBox& box) {
    using Mode = settings::FitRule::Mode;
    // The size the surfaces draw a slot font at: whole points, at least 1.
    const int full = std::max(1, font.pointSize()) * 10;
    Fitter fitter(metrics, rule, box);
    const QStringList paragraphs = textLines(text);
    const int smallest = rule.mode == Mode::Off ? full : std::min(full, std::max(1, rule.minSize));
    TextFit fit;
    for (int size = full;; size = std::max(smallest, size - kStep)) {
        fit.size = size;
        fit.lines = fitter.broken(paragraphs, size);
        fitter.judge(fit);
        if (!fit.overflow || size == smallest) {
            return fit;
        }
    }
}

} // namespace labelprint
