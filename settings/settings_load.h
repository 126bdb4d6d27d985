// Loading and saving the credentials in settings.txt beside the program.
#pragma once

// Fills g_credentials from the service's section, when the file can be read
// and gives an e-mail; remembers what it found for SettingsProblemText.
void LoadSettings();
// Rewrites the file with the service's section and the two values. The
// values are the credentials in force from now on, whatever the file held.
void SaveSettings(const char* email, const char* password);

// What is wrong with the settings.txt read at start, as a status text; null
// when there is nothing to say (a usable file, no file, or a save since).
const wchar_t* SettingsProblemText();
