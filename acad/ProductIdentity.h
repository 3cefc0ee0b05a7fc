#pragma once
// The constants each program carries. Setup and Uninstall carry different
// identities (Terrasum V8 and Gravo V6); the AutoCAD routines take the one of
// the program they are built into.
#include <cstddef>

struct ProductIdentity {
  const char* company;            // "Kelvarin" / "Halvgard"
  const char* product;            // "Terrasum" / "Gravo"
  const char* version;            // "V8.0" / "V6.0"
  const char* productKey;         // under HKEY_LOCAL_MACHINE
  const char* profileName;        // AutoCAD profile, "<<Terrasum V8>>" / "<<Gravo V6>>"
  const char* description;        // "土方工程量计算软件"
  std::size_t machineReadBuffer;  // ReadRegStringLM's buffer: 2048 in Setup, 1024 in Uninstall
};

// Setup's identity: Kelvarin Terrasum V8.0.
extern const ProductIdentity kSetupIdentity;
// Uninstall's identity: Halvgard Gravo V6.0 (an older product's constants,
// which decide the only AutoCAD profile Uninstall removes).
extern const ProductIdentity kUninstallIdentity;
