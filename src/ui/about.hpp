#pragma once

#include <QString>

namespace lumaro::ui {

// The product page behind the about block's "Info" link: our web host and
// the page's fixed path.
inline constexpr const char* kWebHost = "https://lumaro.dev";
inline constexpr const char* kProductPagePath = "/apps/lumaro/";
QString productPageUrl();

// The version shown next to the name in the about block.
QString applicationVersion();

}  // namespace lumaro::ui
