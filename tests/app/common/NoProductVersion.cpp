// A library that only carries a version resource, for the version tests.
