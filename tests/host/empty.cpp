// Keeps the host library non-empty before any portable file exists.
