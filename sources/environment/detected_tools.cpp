#include "environment/detected_tools.h"

TDetectedTools& DetectedTools() {
    static TDetectedTools tools;
    return tools;
}
