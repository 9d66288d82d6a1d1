// Keeps the UI library non-empty while its first classes arrive.
