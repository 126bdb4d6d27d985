// Keeps the support library non-empty until shared test helpers exist.
