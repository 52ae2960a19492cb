// The line protocol of quillmap4-geo serve: one JSON request per line in,
// progress lines and then exactly one final reply per request out. The
// window starts the helper and talks to it this way; tests and the fuzz
// target call answerRequest directly.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm4::geo {

inline constexpr int kProtocolVersion = 1;

// "4.0.0", the version of the project.
const char* versionText();

// Receives each reply line, without its line end.
using ReplySink = std::function<void(const std::string&)>;

// Answers one request line: perhaps progress lines {"id":N,"progress":0.42},
// then one final reply {"id":N,"ok":true,...} or {"id":N,"ok":false,
// "error":"..."}. A line that is no JSON object, or has no integer "id" or no
// known "op", is answered with the id it gave, or 0.
void answerRequest(std::string_view line, const ReplySink& send);

// The same, the lines collected.
std::vector<std::string> answerRequest(std::string_view line);

// JSON text for a string: quoted, escaped, and valid UTF-8 whatever the
// bytes (a byte that is no part of a UTF-8 character becomes U+FFFD).
std::string jsonString(std::string_view text);

// The shortest decimal text that reads back as the same double; null for
// a value JSON cannot hold (infinity, not a number).
std::string jsonNumber(double value);

}  // namespace qm4::geo
