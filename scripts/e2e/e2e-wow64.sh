# The end-to-end test's checks in a 64-bit prefix running the i686 build
# (sourced by e2e-test.sh when TS_E2E_PREFIX=wow64). There the 32-bit
# programs run under WoW64, as on 64-bit Windows: their HKEY_LOCAL_MACHINE\
# SOFTWARE is the registry's 32-bit view (Software\WOW6432Node), their
# classes' CLSID keys are under Software\Classes\WOW6432Node, and HKCU's
# Software and the ProgIDs are shared by both views. The checks read each view
# with the system's own 64-bit reg.exe (/reg:32, /reg:64) and the system's
# 64-bit list of installed programs.

if [ "$(ts_build_arch "$build")" != win32 ]; then
  echo "e2e: TS_E2E_PREFIX=wow64 runs the i686 build; $build is not one"
  exit 2
fi
if ! ts_can_run_win32; then
  echo "e2e: skipped: the i686 programs in a 64-bit (WoW64) prefix need 32-bit code: $(ts_why_no_win32)"
  exit 77
fi
echo "e2e: the i686 build in a 64-bit prefix (WoW64: the registry's 32-bit view, System32 redirected)"

wow64_product='HKLM\Software\Kelvarin\Terrasum\V8'
wow64_arp='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Terrasum V8'
wow64_class='HKCR\CLSID\{C730AEB6-7B8A-474E-A442-71F390559DA9}'
wow64_progid='HKCR\Terrasum.Grid'

# The system's 64-bit tools, in the test's prefix.
wow64_tool() { (cd "$prefix/drive_c" && timeout -k 10 120 "$TS_WIN64_LOADER" "$@" </dev/null); }
# reg_in VIEW KEY [VALUE]: the key (and value) exists in that view (32 or 64).
reg_in() { wow64_tool reg query "$2" ${3:+/v "$3"} "/reg:$1" >/dev/null 2>&1; }
# listed: the system's list of installed programs names the product's entry.
listed() { wow64_tool uninstaller --list 2>/dev/null | grep -q '^Terrasum V8|||'; }

e2e_seeded() {
  # demo-seed.reg went in through the 32-bit regedit: a 32-bit AutoCAD's keys.
  reg_in 32 'HKLM\Software\Autodesk\AutoCAD\R16.0\ACAD-201:804' AcadLocation ||
    fail "the seeded AutoCAD 2004 is not in the 32-bit view"
  reg_in 64 'HKLM\Software\Autodesk\AutoCAD\R16.0' && fail "the seeded AutoCAD 2004 is in the 64-bit view"
  # A 64-bit AutoCAD 2009: its folder only in the 64-bit view, its CurVer in
  # HKCU (shared). The 32-bit programs must not configure it: its ARX
  # modules would be 64-bit.
  wow64_tool reg add 'HKLM\Software\Autodesk\AutoCAD\R17.2\ACAD-7001:804' /v AcadLocation \
    /d 'C:\Program Files\AutoCAD 2009' /reg:64 /f >/dev/null 2>&1
  wow64_tool reg add 'HKCU\Software\Autodesk\AutoCAD\R17.2' /v CurVer /d 'ACAD-7001:804' /f >/dev/null 2>&1
  reg_in 64 'HKLM\Software\Autodesk\AutoCAD\R17.2\ACAD-7001:804' AcadLocation || fail "no 64-bit AutoCAD 2009 seeded"
}

e2e_installed() {
  local run=$1
  reg_in 64 'HKLM\Software\WOW6432Node\Kelvarin\Terrasum\V8' installPath ||
    fail "wow64 run $run: the product key is not under HKLM\\Software\\WOW6432Node"
  reg_in 64 "$wow64_product" && fail "wow64 run $run: the product key is in the 64-bit view"
  reg_in 32 "$wow64_arp" UninstallString || fail "wow64 run $run: the Add/Remove Programs entry is not in the 32-bit view"
  reg_in 64 "$wow64_arp" && fail "wow64 run $run: the Add/Remove Programs entry is in the 64-bit view"
  listed || fail "wow64 run $run: the system's 64-bit list of installed programs lacks the product"
  reg_in 32 "$wow64_class\\InprocServer32" || fail "wow64 run $run: the sample control's class is not registered in the 32-bit view"
  reg_in 64 "$wow64_class" && fail "wow64 run $run: the sample control's class is in the 64-bit view"
  reg_in 64 "$wow64_progid\\CLSID" || fail "wow64 run $run: the sample control's ProgID (shared by both views) is missing"
  # The per-user component in the 32-bit view, which 64-bit Windows runs
  # too; the installing user's mark in HKCU's shared Software, and no
  # Wow6432Node key there (Wine would take it for the user's 32-bit view).
  reg_in 64 'HKLM\Software\WOW6432Node\Microsoft\Active Setup\Installed Components\Kelvarin.Terrasum.V8' StubPath ||
    fail "wow64 run $run: the per-user component is not in the 32-bit view"
  reg_in 64 'HKCU\Software\Microsoft\Active Setup\Installed Components\Kelvarin.Terrasum.V8' Version ||
    fail "wow64 run $run: the installing user's mark of the per-user component is missing"
  reg_in 64 'HKCU\Software\Wow6432Node' && fail "wow64 run $run: a Wow6432Node key in HKCU"
  grep -q 'Terrasumfor2009.LNK' "$out/install-$run.txt" &&
    fail "wow64 run $run: a launch shortcut for the 64-bit AutoCAD 2009"
}

e2e_uninstalled() {
  local run=$1 view
  for view in 32 64; do
    reg_in $view "$wow64_product" && fail "wow64 run $run: the product key stayed in the $view-bit view"
    reg_in $view "$wow64_arp" && fail "wow64 run $run: the Add/Remove Programs entry stayed in the $view-bit view"
    reg_in $view "$wow64_class" && fail "wow64 run $run: the sample control's class stayed in the $view-bit view"
    reg_in $view "$wow64_progid" && fail "wow64 run $run: the sample control's ProgID stayed ($view-bit view)"
  done
  listed && fail "wow64 run $run: the system's list of installed programs still names the product"
}
