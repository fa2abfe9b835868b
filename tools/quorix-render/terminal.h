// Whether the tool's standard error is a terminal (progress output goes there only then).
#pragma once

bool StderrIsTerminal();
