#include "ScriptInput.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace kordavine::driver {

namespace {

using nlohmann::json;

std::string sizeLimitText() {
    return std::to_string(kMaxDocumentBytes / 1024) + " KiB";
}

// Reads at most limit + 1 bytes, enough to tell that a stream is too long.
std::string readAtMost(std::istream& in, std::size_t limit) {
    std::string bytes(limit + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// Thrown from the parser callback to stop at the first container too deep.
struct TooDeep {};

}  // namespace

std::string readDocument(const std::string& path, std::string_view what) {
    const std::string source = path == "-" ? "from standard input" : path;
    auto failure = [&] {
        const int cause = errno;
        return InputError("cannot read " + std::string(what) + " " + source +
                          (cause ? std::string(": ") + std::strerror(cause) : std::string()));
    };
    errno = 0;
    std::ifstream file;
    if (path != "-") {
        file.open(path, std::ios::binary);
        if (!file) throw failure();
    }
    std::istream& in = path == "-" ? std::cin : file;
    std::string bytes = readAtMost(in, kMaxDocumentBytes);
    if (in.bad()) throw failure();
    if (bytes.size() > kMaxDocumentBytes) {
        throw InputError(std::string(what) + " " + source + " is larger than " + sizeLimitText());
    }
    return bytes;
}

json parseDocument(std::string_view text, std::string_view what) {
    if (text.size() > kMaxDocumentBytes) {
        throw InputError(std::string(what) + " is larger than " + sizeLimitText());
    }
    // depth counts the containers already open around the one that starts.
    const json::parser_callback_t boundDepth = [](int depth, json::parse_event_t event, json&) {
        const bool starts =
            event == json::parse_event_t::object_start || event == json::parse_event_t::array_start;
        if (starts && depth >= kMaxNesting) throw TooDeep{};
        return true;
    };
    try {
        return json::parse(text, boundDepth);
    } catch (const TooDeep&) {
        throw InputError(std::string(what) + " nests arrays and objects deeper than " +
                         std::to_string(kMaxNesting) + " levels");
    } catch (const json::parse_error& error) {
        throw InputError(std::string(what) + " is not JSON: " + error.what());
    }
}

}  // namespace kordavine::driver
