/* Resource ids shared by the resource script and the code. Plain C: windres reads it too. */
#ifndef VXR_RESOURCE_IDS_H
#define VXR_RESOURCE_IDS_H

#define VXR_ICON_PROGRAM 1
#define VXR_TEXT_LICENCE 100

#endif
