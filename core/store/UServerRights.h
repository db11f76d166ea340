// Rights the server enforces: the schema part that sets them up, and the password proof a bench
// hands in instead of reading a hash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct TServerSchemaPart;

// The server's schema part for the bench role, the append-only journal and the password functions.
const TServerSchemaPart& ServerRightsPart();
// The checks on the benches' changes of the data: a session, the role's rights, a journal entry.
const TServerSchemaPart& ServerWriteChecksPart();
// Peer statistics and EQA results with the same checks, and the goals' bias source.
const TServerSchemaPart& ServerAssessmentPart();

// The settings' password field naming a hash kept elsewhere (as a folder's settings file holds it),
// and a new one.
bool IsProgramPasswordMarker(std::string_view field);
std::string NewProgramPasswordMarker();

// The Argon2id string of `password` with the parameters and salt of `setting` ("$argon2id$v=19$m=..,
// t=..,p=1$SALT"), as crypto_pwhash_str would have made it; nothing for a setting not of that form.
std::optional<std::string> Argon2idWithSetting(const std::string& setting, const std::string& password);
