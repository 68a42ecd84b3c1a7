#pragma once

namespace textfile {

/// Forgets every file read, written and backed up and every settled encoding, and lets writes be
/// made again, so that a test starts a fresh run of the program.
void resetBackupsForTesting();

} // namespace textfile
