#include "CappedTextFields.h"

#include "Utf16Prefix.h"

namespace kordavine::joblog {

template <class Base, std::size_t Cap>
void CappedTextField<Base, Cap>::textDidChange() {
    // Replaces the toolkit's own change handling; the notification goes no further.
    const std::string text = this->stringValue();
    if (utf16Length(text) > Cap) this->setStringValue(utf16Prefix(text, Cap));
}

template class CappedTextField<platform::TextField, 8>;
template class CappedTextField<platform::TextField, 16>;
template class CappedTextField<platform::SecureTextField, 4>;
template class CappedTextField<platform::SecureTextField, 8>;

}  // namespace kordavine::joblog
