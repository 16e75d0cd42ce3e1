// A line slot's options beyond position and font: whether its text is drawn as a barcode, and
// how a line that is too wide for its label is fitted. The defaults draw plain text exactly as
// before these options existed, and are never written to a file.
#pragma once

namespace settings {

enum class BarcodeKind { Text, Ean13, Ean8, Code128, Code39, Qr, DataMatrix };

// One slot's barcode options. A slot of kind Text is drawn as text and the rest is unused.
struct BarcodeOptions {
    BarcodeKind kind = BarcodeKind::Text;
    // Module width X in 0.01 mm; 33 is the nominal EAN module.
    int moduleWidth = 33;
    // Height of the bars of a linear symbol in 0.1 mm; two-dimensional symbols are square.
    int barHeight = 150;
    // Human-readable characters under the bars of a linear symbol, in the slot's font.
    bool digits = true;

    bool operator==(const BarcodeOptions&) const = default;
};

// How a line that does not fit its label's width is fitted.
struct FitRule {
    enum class Mode { Off, Shrink, Wrap };
    Mode mode = Mode::Off;
    // The smallest font size shrinking may reach, in 0.1 pt.
    int minSize = 60;
    // Wrap: the most lines the text may take.
    int lines = 2;

    bool operator==(const FitRule&) const = default;
};

} // namespace settings
