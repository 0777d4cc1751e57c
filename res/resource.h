// Resource ids of the setup program: the dialog, its controls, the icons and
// bitmaps, and the folder browser's controls that the program reaches by id.
#pragma once

// Dialog template and artwork.
#define IDD_SETUP 141
#define IDI_SETUP 1
#define IDI_SETUP_ALT 128
#define IDB_LOGO 147
#define IDB_PLUGIN_MENU 151

// Controls of the setup dialog.
#define IDC_TARGET_PATH 1000
#define IDC_TITLE 1013
#define IDC_PROGRESS 1014
#define IDC_BROWSE 1015
#define IDC_COMPONENTS_LABEL 1016
#define IDC_PATH_LABEL 1017
#define IDC_ACAD2007 1018
#define IDC_ACAD2008 1019
#define IDC_ACAD2009 1020
#define IDC_FINISHED_PICTURE 1021
#define IDC_INSTALL 1022
#define IDC_FINISHED_LABEL 1023
#define IDC_EDITION 1024
// Out of year order: 2011 has the lower id. Map years to ids by name only.
#define IDC_ACAD2011 1026
#define IDC_ACAD2010 1027
#define IDC_ACAD2012 1028
#define IDC_ACAD2013 1029
#define IDC_ACAD2014 1030
#define IDC_ACAD2015 1031
#define IDC_ACAD2016 1032
#define IDC_ACAD2017 1033
#define IDC_ACAD2018 1034
#define IDC_ACAD2019 1035
#define IDC_ACAD2020 1036
#define IDC_ACAD2021 1037
#define IDC_ACAD2022 1038
#define IDC_ACAD2023 1039
#define IDC_ACAD2024 1040
#define IDC_ACAD2025 1041
#define IDC_ACAD2026 1042

// Controls of the shell's folder browser that the path picker works with.
#define IDC_BROWSER_TREE 14145
#define IDC_BROWSER_STATUS 14147
#define IDC_BROWSER_PATH_EDIT 14148

// The framework's standard help command.
#ifndef ID_HELP
#define ID_HELP 57670
#endif
