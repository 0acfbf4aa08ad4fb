#!/usr/bin/env bash
# Builds the filter and runs it on the bundled sample job as a Locked Print, showing the
# spliced PostScript. Extra arguments replace the sample options.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build" >/dev/null
options='com.varlo.printsettings.JobType="Locked Print" com.varlo.printsettings.UserID=alice42 com.varlo.printsettings.Password=1234 com.varlo.printsettings.TimeZone=UTC0'
[ $# -gt 0 ] && options="$*"
echo "== jobtypefilter 1 demo 'Quarterly report' 1 '$options' samples/sample-job.ps" >&2
"$here/build/Filter/jobtypefilter" 1 demo "Quarterly report" 1 "$options" "$here/samples/sample-job.ps"
