#pragma once
// Setup without any window (/S): the install worker runs the same stages as
// under the copy page, with no page to report to, and every prompt takes its
// documented answer. Nobody watches, so no file is counted beforehand and no
// message goes anywhere per file.
#include <string>

#include "framework/ActionLog.h"

class CSilentSetup {
 public:
  // installFolder: the /D= folder, or empty for the default one.
  CSilentSetup(const CActionLog& log, std::string installFolder);

  // Installs and returns the exit code (0, 2, 3 or 3010).
  int Run();

 private:
  const CActionLog& log_;
  std::string installFolder_;
};
