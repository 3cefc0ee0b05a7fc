#include "acad/ProductIdentity.h"

const ProductIdentity kSetupIdentity = {
    "Kelvarin", "Terrasum", "V8.0", "SOFTWARE\\Kelvarin\\Terrasum\\V8", "<<Terrasum V8>>",
    "土方工程量计算软件", 2048,
};

const ProductIdentity kUninstallIdentity = {
    "Halvgard", "Gravo", "V6.0", "SOFTWARE\\Halvgard\\Gravo\\V6", "<<Gravo V6>>",
    "土方工程量计算软件", 1024,
};
