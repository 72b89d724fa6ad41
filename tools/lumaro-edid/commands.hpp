#pragma once

#include <cstdio>
#include <string>

namespace lumaro::tools {

// Exit codes of lumaro-edid.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoEdid = 1;  // decode: the file holds no acceptable EDID
inline constexpr int kExitUsage = 2;   // unknown subcommand, missing or unreadable file

// `lumaro-edid decode FILE`: the eight information-panel fields of a raw EDID.
int runDecode(const std::string& path, std::FILE* out, std::FILE* err);

// `lumaro-edid ioreg FILE`: prepares a registry dump as the harvest does,
// parses it with diagnostics, then prints one TAB-separated line per record.
int runIoreg(const std::string& path, std::FILE* out, std::FILE* err);

}  // namespace lumaro::tools
