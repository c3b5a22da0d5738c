#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// stdout, where a write that fails or falls short is an error to report,
// never a success: a full disk, /dev/full, a reader that has gone.
namespace korvane::cli {

// Keys keep the order they are written in.
using Json = nlohmann::ordered_json;

// Writes all of text to fd, going on after interruptions and short writes.
// Empty when done, else why not (the system's reason).
std::string WriteAll(int fd, std::string_view text);

// Writes all of text to stdout; throws WriteFailure when it cannot. SIGPIPE
// must be ignored, so that a closed pipe shows as an error here.
void WriteOut(std::string_view text);

// Returns once a pipe on stdout has been read to its end, or its reader has
// stopped reading for a second. Throws WriteFailure when the reader goes
// first: what is left unread is lost (korvane-cli ga | head -c 1). Anything
// but a pipe returns at once.
void AwaitReader();

// "korvane-cli: line" on stderr.
void Complain(std::string_view line);

// One JSON value on one line. Numbers are written in their shortest form
// that reads back as the same double; a number that is not finite is null.
void WriteJsonLine(const Json& value);

}  // namespace korvane::cli
