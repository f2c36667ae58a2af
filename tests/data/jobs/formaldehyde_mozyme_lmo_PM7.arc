

                     SUMMARY OF  PM7 CALCULATION

                                                       MOPAC v22.0.6 Linux
                                                       Tue Dec  8 21:50:02 2026

           Empirical Formula: C H2 O  =     4 atoms

 PM7 1SCF MOZYME AUX(MOS=99999,PRECISION=9)
 formaldehyde, MOZYME without EIGEN: localized MOs



     1SCF WAS SPECIFIED, SO BFGS WAS NOT USED                 
     SCF FIELD WAS ACHIEVED                                   

          HEAT OF FORMATION       =        -25.37226 KCAL/MOL =    -106.15754 KJ/MOL
          DIPOLE                  =          2.66003 DEBYE   POINT GROUP:  C2v 
          NO. OF FILLED LEVELS    =          6
          MOLECULAR WEIGHT        =         30.0262

          MOLECULAR DIMENSIONS (Angstroms)

            Atom       Atom       Distance
            H     3    O     2     1.99249
            H     4    O     2     1.67339
            H     4    C     1     0.00000
          SCF CALCULATIONS        =          1
          WALL-CLOCK TIME         =      0.016 SECONDS
          COMPUTATION TIME        =      0.003 SECONDS


          FINAL GEOMETRY OBTAINED
 PM7 1SCF MOZYME AUX(MOS=99999,PRECISION=9)
 formaldehyde, MOZYME without EIGEN: localized MOs

  C     0.00000000 +1    0.0000000 +1    0.0000000 +1     0     0     0
  O     1.20000000 +1    0.0000000 +1    0.0000000 +1     1     0     0
  H     1.10000000 +1  120.0000000 +1    0.0000000 +1     1     2     0
  H     1.10000000 +1  120.0000000 +1  180.0000000 +1     1     2     3

