#include "tools/query/QueryJson.h"

#include "chords/ChordBook.h"

#include <cstdio>

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(byte));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonStrings(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out.append(i ? "," : "").append(JsonString(items[i]));
    return out + "]";
}

std::string JsonInts(const std::vector<int>& items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out.append(i ? "," : "").append(std::to_string(items[i]));
    return out + "]";
}

std::string JsonVariation(const TChordVariation& variation)
{
    return "{\"notes\":" + JsonInts(variation.notes) + ",\"names\":" + JsonStrings(variation.noteNames) +
           ",\"labels\":" + JsonStrings(variation.degreeLabels) + "}";
}
