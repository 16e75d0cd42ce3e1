// What can be wrong with one label that a layout run still lays out. The run counts the labels
// with each problem and keeps the first one's place and reason; each front end decides whether
// to show, ask or refuse. A new kind goes before Count.
#pragma once

#include <QString>
#include <array>

namespace labelprint {

enum class LabelProblem {
    BadBarcode, // a barcode slot's data cannot be encoded; the symbol is left out
    Overflow,   // a line's text does not fit: past the label's edge, cut off, or past its lines
    Count
};

inline constexpr int kLabelProblemKinds = int(LabelProblem::Count);

// A set of problems, one bit per kind.
using LabelProblemSet = unsigned;
constexpr LabelProblemSet problemBit(LabelProblem p) {
    return 1u << unsigned(p);
}

// One problem as a label's face found it.
struct ProblemNote {
    int slot = -1;  // the line slot it belongs to, -1 for none
    QString reason; // e.g. the encoder's words
};

// The labels of one run with one problem.
struct ProblemTally {
    int labels = 0;     // labels with the problem
    int firstLabel = 0; // the first one's number in the run, from 1 (its row); 0 for none
    ProblemNote first;
};

struct ProblemTallies {
    std::array<ProblemTally, kLabelProblemKinds> kinds{};

    const ProblemTally& operator[](LabelProblem p) const { return kinds[size_t(p)]; }
    ProblemTally& operator[](LabelProblem p) { return kinds[size_t(p)]; }
    bool any() const {
        for (const ProblemTally& t : kinds) {
            if (t.labels > 0) {
                return true;
            }
        }
        return false;
    }
    // Counts label `label` (from 1) for the problem, keeping the note of the first.
    void add(LabelProblem p, int label, const ProblemNote& note) {
        ProblemTally& t = (*this)[p];
        if (t.labels++ == 0) {
            t.firstLabel = label;
            t.first = note;
        }
    }
};

} // namespace labelprint
