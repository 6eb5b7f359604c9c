#include "sim/default_station.h"

namespace sim {

std::string DefaultStationText() {
  return R"(; The simulated station. Edit freely; sim/README.md explains every key.
; Each call of the libraries and of nvscmd.exe reads this file again.

[station]
; adapter sections, in the order the enumeration lists them
adapters = usb, lpt
; module answering the USB bus as \\.\CSR0 ("no": nothing attached)
usb_chip = no
; realistic: programming takes program_ms; instant: no waiting at all
timing = realistic
program_ms = 3000
; on: one line per call appended to station/trace.log
trace = off

[adapter usb]
name = USB SPI (0)
transport = SPITRANS=USB SPIPORT=0
module = bc5

[adapter lpt]
name = LPT SPI (1)
transport = SPITRANS=LPT SPIPORT=1
module = bc7

[module bc5]
present = yes
chip_version = 0
nap = 0002
uap = 5b
lap = 00a1f0
xtal_ftrim = 31
xtal_offset = 0
; carrier error in ppm = (xtal_on_trim - trim) * xtal_ppm_per_trim
xtal_on_trim = 38.3
xtal_ppm_per_trim = 1.0
eeprom_kbit = 256
spi_flash_mbit = 8
spi_flash_mid = 0xc2
spi_flash_devid = 0x2014
spi_flash_sector = 0x800
parallel_flash_mbit = 16
parallel_flash_mid = 0x1
parallel_flash_devid = 0x2249
parallel_flash_sector = 0x8000
pio_refused = 0x0
pio_levels = 0x0
spi_locked = no
customer_key =
loopback_right = pass
loopback_left = pass

[module bc7]
present = yes
chip_version = 7
nap = 0002
uap = 5b
lap = 00a1f1
xtal_ftrim = 31
xtal_offset = 0
; on this chip the stored offset also counts: 0.1 ppm per unit
xtal_on_trim = 33.5
xtal_ppm_per_trim = 1.0
eeprom_kbit = 512
spi_flash_mbit = 16
spi_flash_mid = 0xc2
spi_flash_devid = 0x2015
spi_flash_sector = 0x800
parallel_flash_mbit = 16
parallel_flash_mid = 0x1
parallel_flash_devid = 0x2249
parallel_flash_sector = 0x8000
pio_refused = 0x0
pio_levels = 0x0
spi_locked = no
customer_key =
loopback_right = pass
loopback_left = pass

[reference]
present = yes
; level received from a module transmitting on that frequency, in dBm
level_dbm = -71
level_2402 = -70.5
level_2441 = -71
level_2480 = -72
; level when nothing transmits on the frequency listened to
noise_dbm = -100

[faults]
; function = module [after N], ...   e.g.  psWriteBdAddr = bc7 after 1
; flash_error = module code N        progress_stall = module at N
; nvscmd = module                    nvscmd_no_file = module
)";
}

}  // namespace sim
