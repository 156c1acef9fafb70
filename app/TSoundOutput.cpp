// The audio device a sound player drives, kept this small so tests can stand in for it.
#include "TSoundOutput.h"

TSoundOutput::~TSoundOutput() = default;
