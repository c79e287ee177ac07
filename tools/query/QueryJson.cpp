#include "tools/query/QueryJson.h"

#include "base/Utf8.h"
#include "chords/ChordCalculation.h"
#include "chords/ChordText.h"
#include "chords/ChordVariations.h"
#include "chords/Notes.h"

#include <cstdio>

namespace {

std::string jsonBools(const std::vector<bool>& items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out.append(i ? "," : "").append(items[i] ? "true" : "false");
    return out + "]";
}

// The voicing's fields of a result: what it sounds, from the low string or note up.
std::string voicingFields(const TChordVariation& voicing, GameType game, std::string& bass)
{
    const std::vector<std::optional<int>> sounding = SoundingNotes(voicing, game == gtGuitar);
    std::vector<int> notes;
    std::vector<bool> roots;
    std::string frets = "[";
    int lowest = 0;
    for (std::size_t i = 0; i < sounding.size(); ++i) {
        if (game == gtGuitar)
            frets.append(i ? "," : "").append(sounding[i] ? std::to_string(std::abs(voicing.notes[i])) : "null");
        if (!sounding[i])
            continue;
        if (notes.empty() || *sounding[i] < lowest) {
            lowest = *sounding[i];
            bass = i < voicing.noteNames.size() ? voicing.noteNames[i] : std::string();
        }
        notes.push_back(*sounding[i]);
        roots.push_back(IsRootTone(voicing, i));
    }
    std::string out = ",\"notes\":" + JsonInts(notes) + ",\"roots\":" + jsonBools(roots);
    return game == gtGuitar ? out + ",\"frets\":" + frets + "]" : out;
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : ValidUtf8(text)) {
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
        } else if (byte < 0x20 || byte == 0x7F) {
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

std::string JsonResults(const VariationList& list, GameType game)
{
    std::string out = "[";
    for (std::size_t i = 0; i < list.Sources.size(); ++i) {
        const LineSource& source = list.Sources[i];
        const std::string root(RootTable[std::size_t(source.root)].name);
        std::string bass = source.bass.empty() ? root : source.bass;
        std::string voicing;
        if (i < list.Variations.size())
            voicing = ",\"category\":" + JsonString(source.category) + voicingFields(list.Variations[i], game, bass);
        out.append(i ? "," : "")
            .append("{\"root\":" + JsonString(root) + ",\"type\":" + JsonString(source.type) +
                    ",\"bass\":" + JsonString(bass) + voicing + "}");
    }
    return out + "]";
}
