// Whether the queue of a CUPS job takes the PCL 5 job that zelvo-cups writes.
//
// CUPS's conversion rules cannot tell a PCL printer from any other: the job
// goes out as application/vnd.cups-raw, which every queue accepts. What the
// printer takes is in its PPD, in the IEEE 1284 device ID ("CMD:PCL;" in
// the PPD of CUPS's own LaserJet driver, "CMD:PS;" in its PostScript one).
#ifndef ZELVO_CUPS_QUEUE_H
#define ZELVO_CUPS_QUEUE_H

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// The command sets that the *1284DeviceID of a PPD lists under CMD: (or its
// long name COMMAND SET:), as written there, e.g. "PJL,PCL,POSTSCRIPT";
// nothing when the PPD has no device ID or the ID has no such field.
std::optional<std::string> ppd_command_sets(std::string_view ppd);

// Whether a comma-separated list of command sets names PCL 5: PCL, PCL5,
// PCL5C or PCL5E, in any case and with any blanks. PCL 3 (inkjets) and PCL
// XL alone are not PCL 5.
bool lists_pcl5(std::string_view command_sets);

// The decision for one job, from the PPD that CUPS names in the PPD
// variable. No PPD (unset, empty, or a file that does not exist, as
// cupsfilter names one when it is given none) is no queue to judge: the job
// goes on. Otherwise the PPD must list PCL 5. Says why on `log`: an
// "ERROR: " line when the job must not go on, a "DEBUG: " line when it may.
bool queue_takes_pcl5(const char *ppd_path, std::FILE *log);

#endif
