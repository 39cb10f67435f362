#pragma once

// The specified faces ("ＭＳ Ｐゴシック", "ＭＳ ゴシック") are not on this system; map them to
// the IPA fonts that look closest, where those are installed. Call before the first window.
namespace JapaneseFonts {
void installSubstitutions();
}
