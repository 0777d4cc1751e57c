// Which edition of the plug-in a module belongs to, by the machine type its
// PE header names: the 32-bit edition's modules are i386 images, the 64-bit
// edition's AMD64 images. Both editions can be on one machine, and a folder
// or a payload of one must never be taken for the other's.
#pragma once

#include "afx.h"

// 32 for an i386 image, 64 for an AMD64 image; 0 for a file that is no PE
// image (or cannot be read), of another machine, or a managed image marked
// i386, which an assembly built for any processor is and either edition
// loads.
int ModuleEdition(const char* path);

// Whether a file name is one of the plug-in's ObjectARX modules
// (TR_RedavIzor*.ARX, any case).
bool IsArxModule(const CString& name);

// The first of names (files in folder; missing ones are skipped) built for
// another edition than edition: that edition, else 0.
int OtherEdition(const CString& folder, const CStringArray& names, int edition);

// The other edition whose modules an install folder holds (its
// TR_RedavIzor*.ARX, and the files named as the payload's .dll files, but
// for the payload's own): that edition, else 0.
int OtherEditionInstalled(const CString& folder, const CString& payloadFolder, const CStringArray& payloadNames,
                          int edition);
