#pragma once
// The Spanish order of texts for the file engine's collation ES.

// Compares two UTF-8 texts of n1 and n2 bytes in Spanish order, then by
// their code units, so that only equal texts compare equal. In the form
// SQLite takes for a collation.
int compararEs(void *, int n1, const void *s1, int n2, const void *s2);
