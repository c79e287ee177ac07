// A minimal one-line JSON writer for tonvera-query. The chord knowledge's text is 8-bit
// (Latin-1), so every byte above 0x7F is written as the code point of the same value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::string JsonString(std::string_view text);
std::string JsonStrings(const std::vector<std::string>& items);
std::string JsonInts(const std::vector<int>& items);

struct TChordVariation;
// {"notes":[...],"names":[...],"labels":[...]}
std::string JsonVariation(const TChordVariation& variation);
