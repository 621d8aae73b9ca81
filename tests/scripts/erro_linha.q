* Um comando que falha na linha 17 encerra o script com o relatório.
seja a 2
seja a 3
seja a 4
seja a 5
seja a 6
seja a 7
seja a 8
seja a 9
seja a 10
seja a 11
seja a 12
seja a 13
seja a 14
seja a 15
escreve "antes da falha"
subtrai $vazio 1
escreve "nunca"
