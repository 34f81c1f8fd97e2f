/* Identifiers of the program's resources, shared by the resource script and the C++ code (plain
   macros, because the resource compiler reads this file too). */
#ifndef CORVANTIS_RESOURCE_IDS_H
#define CORVANTIS_RESOURCE_IDS_H

#define IDS_SAVER_DESCRIPTION 1 /* the name the system shows for the screen saver file */
#define IDI_SAVER 100
#define IDD_CONFIGURE 2003

/* Controls of the configuration dialog. */
#define IDC_SPEED_EDIT 1000
#define IDC_SPEED_LABEL 1001
#define IDC_XOFFSET_LABEL 1002
#define IDC_XOFFSET_EDIT 1003
#define IDC_YOFFSET_EDIT 1004
#define IDC_YOFFSET_LABEL 1005
#define IDC_MARGIN_EDIT 1006
#define IDC_MARGIN_LABEL 1007

#endif
