#include "driver/main_flow.h"

int main(int argc, char** argv) { return tamsel::RunProgramMain(argc, argv); }
