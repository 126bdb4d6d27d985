// Loading and saving the credentials in settings.txt beside the program.
#pragma once

// Fills g_credentials from the service's section, when the file can be read.
void LoadSettings();
// Rewrites the file with the service's section and the two values.
void SaveSettings(const char* email, const char* password);
