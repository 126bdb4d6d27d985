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
