#pragma once

// Whether the system shows high contrast (SPI_GETHIGHCONTRAST): what the
// program colours itself (texts, backgrounds, the rows of its lists) then takes
// the system's colours; pictures stay. Every colouring asks here, so a test can
// answer in the platform's place (Wine cannot switch high contrast on).
bool HighContrastOn();
// A test's answer in place of the platform's; null gives the platform's back.
void SetHighContrastQuery(bool (*query)());
