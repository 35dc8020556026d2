// Maps the font names that forms and templates use to the fonts installed here.
#pragma once

namespace kelpo {

// Registers the substitutions once (QFont::insertSubstitution); safe to call again.
void registerFontSubstitutions();

}  // namespace kelpo
