// The settings record in memory, which the model's limits read (its t-table rows); the settings file
// that holds it is read and written by UGlobale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "URegional.h"

// The 9-byte signature heading the settings file and closing the data file's sections.
constexpr size_t SignatureSize = 9;
using TSignature = std::array<uint8_t, SignatureSize>;
constexpr TSignature ProgramSignature = {0x08, 0x33, 0x32, 0xB5, 0xFE, 0x70, 0x6F, 0x34, 0x35};

struct TSettings {
    bool ShowAboutAtStart = true;
    bool ColourPrint = false;
    std::string Password; // upper case, at most 10 characters
    char BackupDrive = 'A';
    int32_t BackupInterval = 7;
    TDateTime LastBackup = 0;
    uint8_t AlertRow = 0;
    uint8_t ActionRow = 4;
    TSignature Signature = ProgramSignature;
    // The chosen backup folder, stored after the operators where older readers ignore it.
    std::string BackupFolder;
    // The windows' size in percent of their laid-out size (100 to 200), or 0 to follow the desktop's
    // scaling; stored after the backup folder, applied at start.
    int32_t DisplaySize = 0;
};

extern TSettings Settings;
