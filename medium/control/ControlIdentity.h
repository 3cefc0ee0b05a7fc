#pragma once
// The names under which the sample ActiveX control of the distribution
// medium registers its class. Two builds come from the same sources:
// TerrasumGrid.ocx, the working control, and FailingControl.ocx
// (TS_FAILING_CONTROL), whose DllRegisterServer reports S_FALSE and
// registers nothing. Each has a class of its own, so that unregistering one
// never touches the other's keys. Tests of the installer and uninstaller
// include this header to find the keys.

namespace medium {

struct ControlIdentity {
  const char* clsid;                     // "{...}", the key name under HKEY_CLASSES_ROOT\CLSID
  const char* name;                      // default value of the class key
  const char* progId;                    // versioned ProgID
  const char* versionIndependentProgId;  // ProgID without version, with CurVer
};

inline constexpr ControlIdentity kGridControl = {
    "{C730AEB6-7B8A-474E-A442-71F390559DA9}",
    "Terrasum Grid Control",
    "Terrasum.Grid.1",
    "Terrasum.Grid",
};

inline constexpr ControlIdentity kFailingControl = {
    "{42BF3B71-2C70-48EB-9762-33096114D07F}",
    "Terrasum Failing Control",
    "Terrasum.FailingControl.1",
    "Terrasum.FailingControl",
};

}  // namespace medium
