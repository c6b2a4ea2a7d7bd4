#pragma once
// The custom window messages between the step forms, the main window and the
// report form. All carry 0 in both parameters.

#include "platform/kernel/WindowMessage.h"

constexpr unsigned WM_STEPCLOSE = Win::WM_USER + 102;     // close and free this step
constexpr unsigned WM_UPDATESTEPS = Win::WM_USER + 104;   // refresh the step actions
constexpr unsigned WM_FITPANEL = Win::WM_USER + 106;      // fit to the parent panel
constexpr unsigned WM_COMPSSEARCH = Win::WM_USER + 107;   // run the comps search
constexpr unsigned WM_PRINTPROPINFO = Win::WM_USER + 108; // print the property information report
constexpr unsigned WM_SAVEPROPINFO = Win::WM_USER + 109;  // save the property information report
constexpr unsigned WM_PROPLIST = Win::WM_USER + 110;      // show the found-properties list
constexpr unsigned WM_PROPDATA = Win::WM_USER + 111;      // fetch and show the chosen property
constexpr unsigned WM_PROPSEARCH = Win::WM_USER + 112;    // run the subject-property search
constexpr unsigned WM_MAPREQUEST = Win::WM_USER + 113;    // send map.request
constexpr unsigned WM_MAKEREPORT = Win::WM_USER + 114;    // make and show the profile report
constexpr unsigned WM_LOGIN = Win::WM_USER + 115;         // send login.request, take over the answer
