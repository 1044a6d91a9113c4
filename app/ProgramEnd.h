#pragma once

#include <functional>

// Ends the program: every event loop stops. Tests put their own handler in its place.
void endProgram();
void setEndProgramHandler(std::function<void()> handler);
