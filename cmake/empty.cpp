// Keeps a room library non-empty while its room has no sources yet.
