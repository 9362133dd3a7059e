#pragma once

// Who makes the editor, as the about box and every links.txt name them.
namespace vesk {
inline constexpr const char *kMakerName = "Halvick Soft";
inline constexpr const char *kMakerWebPage = "http://halvick.example.org";
inline constexpr const char *kMakerEmail = "halvick@example.org";
} // namespace vesk
