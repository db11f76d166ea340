// Program-wide globals: the program folder and file names, the settings file, the operators.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "UGlobaleSettings.h"
#include "URegional.h"

// True when bytes 3..8 of the 9 bytes are the program's magic (the version is not compared).
bool SignatureMagicMatches(const uint8_t* nineBytes);
bool SignatureMagicMatches(std::string_view nineBytes);

constexpr int32_t MinDisplaySize = 100;
constexpr int32_t MaxDisplaySize = 200;
// A stored display size that the program can apply: 0 (follow the desktop) or 100 to 200.
bool ValidDisplaySize(int32_t percent);
// The display size stored in a settings file image; 0 when the image has none or a wrong one.
int32_t DisplaySizeOfSettingsImage(std::string_view bytes);

constexpr size_t SettingsRecordSize = 40;

extern std::string ProgramFolder;          // with its trailing '/'
extern std::string BaseName;               // ProgramFolder + "Varnholt"
extern std::vector<std::string> Operators; // sorted without regard to case, duplicates kept
extern bool FirstRun;

// The program folder: VARNHOLT_HOME when set; else the executable's folder when it already holds
// the program's files or a file named "portable"; else ~/.local/share/Varnholt. Ends in '/'; empty
// when there is no home folder to put it in.
std::string FindProgramFolder(const std::string& executableFolder);
// Sets ProgramFolder and BaseName (creating the folder when needed).
void SetProgramFolder(const std::string& folder);
std::string ExecutableFolder();

std::string SettingsFileName(); // BaseName + ".cfr"
std::string ArchiveFileName(int32_t n);

void DefaultSettings();
// Reads the settings file; a missing, short or foreign file gives the defaults and FirstRun.
void LoadSettings();
// Writes the settings file atomically; throws EQcError naming the file and the reason.
void SaveSettings();
// Operators in their sorted place (after equal names).
void AddOperator(const std::string& name);

// Byte images of the settings file, used by LoadSettings/SaveSettings and by tests.
std::string SettingsImage(const TSettings& s, const std::vector<std::string>& operators);
// Returns false on a foreign or damaged image; settings and the operators read before the damage
// are filled in as far as they were read.
bool ParseSettingsImage(std::string_view bytes, TSettings& s, std::vector<std::string>& operators);
