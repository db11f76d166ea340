// Moving in and out of a server: a folder's data into an empty server database, and a server's data
// written back as the legacy files (and database records) of a new folder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct TMigrateCount {
    size_t Analytes = 0, Archives = 0, Held = 0;
    std::string Server; // the connection string without its password
};

// Copies the folder's legacy files, archives, goals and records into the empty server database at
// `url`. Throws EQcError with the reason; the folder is only read.
TMigrateCount MigrateFolderToServer(const std::string& folder, const std::string& url);

// Writes the server's data into `folder`, which must not hold Varnholt data yet: archives first (the
// data file names them), queue, settings, data file, then the journal, reviews, passwords and goals
// into the folder's own database. `operatorCode` signs in where the server asks for an operator.
// Throws EQcError with the reason.
TMigrateCount MigrateServerToFolder(const std::string& url, const std::string& folder,
                                    const std::optional<std::string>& operatorCode,
                                    const std::string& password);
