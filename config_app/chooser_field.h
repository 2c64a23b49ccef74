// The chooser's single-line fields: the name (typed, save mode), the type
// text and the current folder (both read-only). A field shows its text in a
// frame; an editable one takes typed characters and the back key. Its text
// is also its window text, so that the phone's window list shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/message/messages.h"

namespace tlw {

inline constexpr char16_t kChooserFieldClass[] = u"TlwChooserField";

// Registers the class (once per process); false when it cannot.
bool RegisterChooserField();

// Makes a field as a child of parent; editable fields take at most limit
// characters of typing.
plat::Hwnd CreateChooserField(plat::Hwnd parent, bool editable, std::size_t limit);

// Sets the text. An editable field selects all of it, so that the first
// character typed replaces it (an offered name is easily replaced).
void SetChooserFieldText(plat::Hwnd field, std::u16string_view text);
std::u16string ChooserFieldText(plat::Hwnd field);

}  // namespace tlw
