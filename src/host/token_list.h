// The statement token table, written once: X(token, keyword, handler). The dispatcher, kavpack
// and kavpack --list all expand it. A handler named statement_not_built reports its token as
// unknown (error 3) until its statement family exists.
#pragma once

#define QUILLON_TOKENS(X)                       \
    X(0x1010, "PRINT", print_statement)         \
    X(0x1011, "INPUT", input_statement)         \
    X(0x1012, "OPEN", open_statement)           \
    X(0x1013, "CLOSE", close_statement)         \
    X(0x1014, "MOUSE", mouse_statement)         \
    X(0x1015, "LPRINT", lprint_statement)       \
    X(0x1020, "IF", if_statement)               \
    X(0x1021, "GOTO", goto_statement)           \
    X(0x1023, "RETURN", return_statement)       \
    X(0x1024, "ON", on_statement)               \
    X(0x1025, "FOR", for_statement)             \
    X(0x1026, "NEXT", next_statement)           \
    X(0x1027, "WHILE", while_statement)         \
    X(0x1030, "WEND", wend_statement)           \
    X(0x1031, "GOSUB", gosub_statement)         \
    X(0x1035, "CHDIR", chdir_statement)         \
    X(0x1036, "KILL", kill_statement)           \
    X(0x1037, "MKDIR", mkdir_statement)         \
    X(0x1038, "FILES", files_statement)         \
    X(0x1040, "PICLOAD", picload_statement)     \
    X(0x1041, "CIRCLE", circle_statement)       \
    X(0x1042, "PAINT", paint_statement)         \
    X(0x1043, "GMOVE", gmove_statement)         \
    X(0x1044, "PRESET", preset_statement)       \
    X(0x1045, "PSET", pset_statement)           \
    X(0x1046, "SCROLL", scroll_statement)       \
    X(0x1047, "GPRINT", gprint_statement)       \
    X(0x1050, "MCI", mci_statement)             \
    X(0x1051, "PLAY", play_statement)           \
    X(0x1059, "CLEAR", clear_statement)         \
    X(0x1060, "DIM", dim_arrays)                \
    X(0x1061, "ERASE", erase_variables)         \
    X(0x1062, "DEFTYPE", declare_letters)       \
    X(0x1063, "DATA", data_statement)           \
    X(0x1064, "READ", read_statement)           \
    X(0x1065, "RESTORE", restore_statement)     \
    X(0x1066, "SWAP", swap_statement)           \
    X(0x1070, "BEEP", beep_statement)           \
    X(0x1071, "CHAIN", chain_statement)         \
    X(0x1072, "CLS", cls_statement)             \
    X(0x1074, "COLOR", color_statement)         \
    X(0x1077, "DEF FN", define_function)        \
    X(0x1078, "END", end_statement)             \
    X(0x1079, "LET", let_statement)             \
    X(0x107A, "LOCATE", locate_statement)       \
    X(0x107B, "RANDOMIZE", randomize_statement) \
    X(0x107D, "RUN", run_statement)             \
    X(0x107E, "WAIT", wait_statement)           \
    X(0x1080, "WIDTH", width_statement)         \
    X(0x1090, "MSGBOX", msgbox_statement)       \
    X(0x1091, "WINDOW", window_statement)       \
    X(0x1110, "GET", get_statement)             \
    X(0x1111, "PUT", put_statement)             \
    X(0x1112, "LINE", line_statement)
