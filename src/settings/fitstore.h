// Where the slots' fit rules are kept: section prizpusobeni of dravelin.ini, and a tagged block
// of the snapshot trailer. Both are written only once a rule was used, so the files of a user
// who never fits a line stay as they were; without them every rule is off.
#pragma once

#include "platform/profile.h"
#include "settings/layoutsettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

namespace settings {

using FitRules = std::array<FitRule, SlotCount>;

FitRules fitRulesOf(const LayoutSettings& layout);
void putFitRules(LayoutSettings& layout, const FitRules& rules);
// Whether any slot fits its text.
bool anyFitRule(const FitRules& rules);

// The rule's words on the command line and in dravelin.ini: "vypnuto", "zmensit", "zalomit".
QString fitModeName(FitRule::Mode mode);
std::optional<FitRule::Mode> fitModeFromName(const QString& name);

// Section prizpusobeni: one key per slot name, "mode;minimum in 0.1 pt;lines". A missing
// section turns every rule off; a missing or unreadable key turns that slot's rule off.
FitRules readFitRules(const platform::Profile& profile);
// Writes every slot, when a rule is on or the section is already there.
void writeFitRules(platform::Profile& profile, const FitRules& rules);

// The trailer block written after the snapshot record when a rule is on: a tag, a length and
// three numbers per slot. No rule on writes nothing.
QByteArray encodeFitTrailer(const FitRules& rules);
// `rest` starts a trailer block. Nothing when it is not this block's tag; throws
// platform::Error when it is but the block is cut short or holds a rule no writer gives.
std::optional<FitRules> decodeFitTrailer(QByteArrayView rest);

} // namespace settings
