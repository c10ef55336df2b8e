const unsigned char dots[] = {60, 66, 129, 129, 129, 129, 66, 60};
