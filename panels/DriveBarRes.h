// Resource identifiers of the drive bars (part of panorel.exe's resources). Never renumber.
#pragma once

#define IDB_DRIVEBAR                 150     // five 16 x 16 images: removable, fixed, remote, CD-ROM, RAM disk
