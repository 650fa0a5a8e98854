#pragma once
#include <string>

// Asks the user to choose a volume file in the standard open dialog, titled with
// the prompt, starting in the folder of `name` and offering the files of its set.
// Confirming replaces `name` with the chosen path; false when cancelled.
bool AskForVolume(const std::wstring& prompt, std::wstring& name);
