const unsigned char first[] = {
    0x01, 0x02,
    0x1G,
};
const unsigned char big[] = {255,
 256};
