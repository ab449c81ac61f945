// Declarations read once into what they do to an element's style (Effect,
// CompiledBlock in computed_style.h), so that a rule's block costs its
// parsing once, not once per element it applies to. A block keeps only what
// can take effect: a declaration whose value its property does not take is
// dropped, as browsers drop it, and of several declarations of one property
// and importance only the last counts.
#pragma once

#include <cstdint>
#include <vector>

#include "html/computed_style.h"
#include "html/css_rules.h"
#include "html/css_values.h"

namespace html {

// Reads a block's declarations into `out`, leaving out those that cannot
// take effect; applying the result does what applying every declaration in
// order would.
void compileBlock(const std::vector<Declaration>& block, CompiledBlock& out);

// Applies one effect to `s`, the style of an element whose parent's is
// `parent`; `ownLines` and `ownAlign` collect the element's own decoration
// lines and vertical alignment.
void applyEffect(ComputedStyle& s, const ComputedStyle& parent, const Effect& e, std::uint8_t& ownLines,
                 VerticalAlign& ownAlign);

// Sets a font size on `s`, relative to `parent` where the size is.
void applyFontSize(ComputedStyle& s, const ComputedStyle& parent, const FontSize& size);

}  // namespace html
