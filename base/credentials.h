// The account the program logs in with: e-mail and password, narrow text in
// the ANSI code page, each in a fixed 260-byte field. The login thread finds
// the password right behind the e-mail, so the two fields stay adjacent.
#pragma once

enum { CREDENTIAL_FIELD_SIZE = 260 };

struct Credentials {
    char email[CREDENTIAL_FIELD_SIZE];
    char password[CREDENTIAL_FIELD_SIZE];
};

static_assert(sizeof(Credentials) == 2 * CREDENTIAL_FIELD_SIZE, "fields must be adjacent");

// The account in force; the UI thread writes it, the login worker copies it.
extern Credentials g_credentials;

// One lock guards the record in use: the login worker copies it whole and
// Save writes both fields, so a login never sees half of a save.
// Copies from into to under the lock.
void CopyCredentials(const Credentials& from, Credentials& to);
// Writes both fields of to under the lock; a value too long for its field
// is cut at 259 bytes. When it gives g_credentials another e-mail, a login
// captcha pending for the old one ends (EndLoginCaptcha).
void StoreCredentials(Credentials& to, const char* email, const char* password);
