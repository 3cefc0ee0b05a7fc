#pragma once
// The end-user licence agreement shown on the agreement page: code page 936
// text, lines separated by CR LF.
extern const char kLicenceText[];
