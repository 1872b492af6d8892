#pragma once
// Inflection rules: how a headword becomes one of its inflected forms, as the bytes an inflection index
// stores. Both texts are bytes in the index code page.
//
// A rule is up to four parts, each a code byte and its characters; empty parts are left out:
//   1 beginning to put in front (the form's first characters),
//   4 beginning to take off (the headword's first characters),
//   2 ending to add (the form's last characters, last first),
//   3 ending to take off (the headword's last characters, last first).
// The alignment is the longest common run of the two texts: the headword is a + run + b, the form c + run + d.
// The beginnings are a and c, the endings b and d, each extended by the run's character next to them (the
// match at the boundary; a run of one character goes to the ending) so that a rule also says where it applies: "run" ->
// "running" takes off "n" and adds "nning". The longest run is what inflections share most (a stem), which keeps rules
// short and lets many headwords share one. Ties go to the run that starts first in the headword, then in the form.
// Texts without a common character give a rule that takes the headword off as an ending and adds the form.
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// The rule that turns `headword` into `form`; empty when they are equal.
std::string inflectionRule(std::string_view headword, std::string_view form);

// Applies a rule the other way, as a reader does with a form it was given: the headword the rule came from,
// or nothing when the rule does not fit the form.
std::optional<std::string> headwordOf(std::string_view form, std::string_view rule);

// An old-style rule: 0x00, the first text's remainder after the texts' common beginning, 0x00, the second
// text's remainder, and 0x00 and the number when one is given (as decimal digits). When the second text is
// wholly the beginning of the first, the common beginning gives up its last character so that both parts
// start with it. Zero bytes inside the parts become spaces. Nothing for equal texts or a common beginning
// under 2 characters.
std::optional<std::string> oldStyleRule(std::string_view first, std::string_view second,
                                        std::optional<unsigned> number = std::nullopt);

}  // namespace qp
