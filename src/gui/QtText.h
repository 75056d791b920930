#pragma once
// The window model's texts are UTF-8; Qt's are QString.

#include <QString>
#include <string_view>

namespace vb::gui {

/// A UTF-8 text as a QString.
inline QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace vb::gui
